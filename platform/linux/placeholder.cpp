// Linux services are added beside this file.
